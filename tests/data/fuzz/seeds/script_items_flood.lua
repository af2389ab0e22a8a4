-- stops: more than 1 MiB handed to the game
while true do vard_give_item( context , "dagger" ) end
