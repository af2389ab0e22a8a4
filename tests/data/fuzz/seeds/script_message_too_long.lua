-- stops: a text longer than 64 KiB
local s = string.rep( "x" , 10000000 )
for i = 1 , 300 do vard_message( context , s ) end
