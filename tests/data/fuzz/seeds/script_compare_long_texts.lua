-- stops: time limit reached
local s = "x"
for i = 1 , 23 do s = s .. s end
local a , b = s .. "y" , s .. "z"
while true do local _ = a < b end
