-- stops: step budget spent
for w in string.gmatch( string.rep( "a" , 40 ) , string.rep( "a*" , 40 ) .. "b" ) do end
