-- stops: step budget spent
xpcall( error , function( ) while true do end end )
