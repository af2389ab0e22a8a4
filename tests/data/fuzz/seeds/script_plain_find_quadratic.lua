-- stops: step budget spent
local s = string.rep( "a" , 4000000 )
local p = string.rep( "a" , 100000 ) .. "b"
return string.find( s , p , 1 , true )
