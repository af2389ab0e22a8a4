-- stops: more than 1 MiB handed to the game
while true do vard_add_talk_path( context , string.rep( "c" , 1000 ) , "start" ) end
