-- stops: step budget spent
local t = { }
for i = 1 , 100000 do t[ i ] = i end
while true do table.sort( t ) end
