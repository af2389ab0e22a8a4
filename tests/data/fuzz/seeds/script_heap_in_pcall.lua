-- stops: Lua memory limit reached
local s = "x"
for i = 1 , 20 do s = s .. s end
local t = { }
while true do pcall( function( ) t[ table.getn( t ) + 1 ] = s .. table.getn( t ) end ) end
