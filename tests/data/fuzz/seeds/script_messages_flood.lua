-- stops: more than 1 MiB handed to the game
local s = string.rep( "x" , 60000 )
for i = 1 , 300 do pcall( vard_message , context , s ) end
