-- stops: more than 1 MiB handed to the game
for i = 1 , 1000000 do vard_set_tag( context , "t" .. i ) end
