-- stops: step budget spent
return string.match( string.rep( "a" , 40 ) , string.rep( "a*" , 40 ) .. "b" )
