-- stops: step budget spent
while true do pcall( string.find , string.rep( "a" , 40 ) , string.rep( "a*" , 40 ) .. "b" ) end
