-- stops: step budget spent
local function h( ) pcall( function( ) while true do end end ) while true do end end
xpcall( function( ) xpcall( error , h ) while true do end end , h )
