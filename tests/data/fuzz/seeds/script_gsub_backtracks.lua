-- stops: step budget spent
return string.gsub( string.rep( "a" , 40 ) , string.rep( "a-" , 30 ) .. "b" , "" )
