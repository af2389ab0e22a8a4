-- stops: pattern too complex
return pcall( string.gsub , "aaaa" , string.rep( "a-" , 1000 ) .. "b" , "" )
