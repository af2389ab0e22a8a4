-- stops: more than 1 MiB handed to the game with names expanded
while true do vard_dialog_box( context , "t" , string.rep( "PARTY " , 10900 ) ) end
