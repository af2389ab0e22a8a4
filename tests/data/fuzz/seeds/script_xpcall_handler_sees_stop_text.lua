-- stops: step budget spent
-- The stop text kept alive, so raising the stop allocates nothing and
-- goes through the handler.
local keep = "script stopped\n"
xpcall( error , function( ) while true do end end )
