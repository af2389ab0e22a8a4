-- stops: step budget spent
setmetatable( { } , { __gc = function( ) while true do end end } )
while true do end
