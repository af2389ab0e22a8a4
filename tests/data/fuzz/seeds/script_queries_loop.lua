-- stops: step budget spent
while true do vard_has_item( context , "nothing" ) vard_get_tag_value( context , "x" ) end
