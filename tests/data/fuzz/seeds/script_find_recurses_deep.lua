-- stops: pattern too complex
return string.find( string.rep( "a" , 400000 ) , string.rep( "a?" , 400000 ) )
