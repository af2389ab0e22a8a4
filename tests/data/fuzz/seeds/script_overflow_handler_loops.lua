-- stops: step budget spent
local function f( ) f( ) end
xpcall( f , function( ) while true do end end )
