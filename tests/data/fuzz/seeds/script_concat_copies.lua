-- stops: time limit reached
local s = "x"
for i = 1 , 24 do s = s .. s end
while true do local t = s .. "y" end
