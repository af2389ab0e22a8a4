-- Calls of the library functions a module script gets, with extreme
-- arguments. Each case is a header line and a one-line script body:
--   "-- gives N": the run returns N;
--   "-- fails: TEXT": the run fails with code 6, TEXT in its detail.
-- tests/script/library_extremes_test.cpp runs them all; tools/fuzz.sh makes
-- each body a seed of the script target.

-- base: unpack, select, tonumber, tostring
-- fails: too many results to unpack
return unpack( { } , -1 , 2147483647 )
-- fails: too many results to unpack
return unpack( { } , -2147483648 , 2147483647 )
-- fails: too many results to unpack
return select( "#" , unpack( { } , 1 , 9000 ) )
-- gives 7000
return select( "#" , unpack( { } , 1 , 7000 ) )
-- gives 3
return select( "#" , unpack( { 1 , 2 , 3 } , -1 , 1 ) )
-- gives 0
return select( "#" , unpack( { 1 } , 5 , 1 ) )
-- gives 2
return select( "#" , unpack( { 7 , 8 } , 2147483646 , 2147483647 ) )
-- fails: number out of range
return unpack( { 7 } , 0 / 0 )
-- fails: number out of range
return unpack( { 7 } , 1 , 2 ^ 40 )
-- gives 8
return unpack( { 7 , 8 } , 2 )
-- gives 3
return select( -1 , 1 , 2 , 3 )
-- fails: index out of range
return select( -4 , 1 , 2 , 3 )
-- fails: index out of range
return select( 0 / 0 , 1 )
-- gives 0
return select( "#" )
-- fails: base out of range
return tonumber( "1" , 1 )
-- gives 1295
return tonumber( "zz" , 36 )
-- gives 2147483647
return tonumber( string.rep( "9" , 400 ) )
-- fails: C stack overflow
return tostring( setmetatable( { } , { __tostring = function( t ) return tostring( t ) end } ) )

-- base: metatables nested deep
-- gives 5
local t = { x = 5 } for i = 1 , 50 do t = setmetatable( { } , { __index = t } ) end return t.x
-- fails: loop in gettable
local t = { x = 5 } for i = 1 , 150 do t = setmetatable( { } , { __index = t } ) end return t.x
-- fails: loop in gettable
local t = { } t.__index = t setmetatable( t , t ) return t.x
-- fails: loop in settable
local t = { } t.__newindex = t setmetatable( t , t ) t.x = 1
-- fails: C stack overflow
local t = setmetatable( { } , { __index = function( t , k ) return t[ k ] end } ) return t.x
-- fails: C stack overflow
local t = setmetatable( { } , { __newindex = function( t , k , v ) t[ k ] = v end } ) t.x = 1
-- fails: C stack overflow
local t = setmetatable( { } , { __concat = function( a , b ) return a .. b end } ) return t .. "x"
-- fails: C stack overflow
local m = { } m.__eq = function( a , b ) return a == b end return setmetatable( { } , m ) == setmetatable( { } , m )
-- fails: C stack overflow
local m = { } m.__lt = function( a , b ) return a < b end return setmetatable( { } , m ) < setmetatable( { } , m )
-- fails: stack overflow
local function f( n ) return f( n + 1 ) + 1 end return f( 1 )
-- gives 1
local function f( ) return pcall( f ) end return f( )

-- base: errors and raw access
-- fails: script failed: error object is a table value
error( { } )
-- fails: script failed: error object is a nil value
error( )
-- fails: script failed: error object is a table value
error( setmetatable( { } , { __tostring = function( ) return "hidden" end } ) )
-- fails: script failed: error object is a boolean value
error( false , 2147483647 )
-- fails: script failed: 12
error( 12 , -2147483648 )
-- fails: table index is NaN
rawset( { } , 0 / 0 , 1 )
-- fails: table index is nil
rawset( { } , nil , 1 )
-- gives 2
return rawequal( 0 / 0 , 0 / 0 ) and 1 or 2
-- fails: invalid key to 'next'
return next( { } , "none" )
-- fails: level must be non-negative
return getfenv( -1 )
-- fails: invalid level
return getfenv( 2147483647 )
-- fails: cannot change environment
setfenv( string.rep , { } )

-- base: the collector
-- gives 1
collectgarbage( "step" , -1 ) return 1
-- gives 100000
collectgarbage( "setpause" , -100 ) collectgarbage( "setstepmul" , -100 ) local t = { } for i = 1 , 100000 do t[ i ] = { } end return #t
-- fails: script stopped
collectgarbage( "setpause" , 0 ) collectgarbage( "setstepmul" , 0 ) local t = { } for i = 1 , 1e8 do t[ i ] = { } end
-- fails: script stopped
collectgarbage( "stop" ) local t = { } for i = 1 , 1e8 do t[ i ] = { i } end

-- string: widths, counts and ranges
-- fails: invalid format (width or precision too long)
return string.format( "%99999d" , 1 )
-- fails: invalid format (width or precision too long)
return string.format( "%.100f" , 1 )
-- fails: invalid format (repeated flags)
return string.format( "%------5d" , 1 )
-- gives 410
return #string.format( "%99.99f" , -1e308 )
-- gives 99
return #string.format( "%099d" , 2 ^ 63 )
-- gives 1
return #string.format( "%d" , 0 / 0 ) > 0
-- fails: string expected, got table
return string.format( "%s" , setmetatable( { } , { __tostring = function( ) return "x" end } ) )
-- fails: no value
return string.format( "%d %d" , 1 )
-- gives 2000005
return #string.format( "%s%s%q" , string.rep( "x" , 1e6 ) , string.rep( "y" , 1e6 ) , "" ) + 3
-- gives 0
return #string.rep( "x" , -2 ^ 53 ) + #string.rep( "x" , 0 / 0 ) + #string.rep( "" , 5 )
-- fails: step budget spent
return string.rep( "x" , 2 ^ 31 )
-- fails: step budget spent
return string.rep( "" , 1e300 )
-- fails: step budget spent
return string.rep( string.rep( "x" , 2 ^ 20 ) , 2 ^ 10 )
-- fails: Lua memory limit reached
local s = "x" for i = 1 , 40 do s = s .. s end
-- gives 3
return #string.sub( "abc" , -2 ^ 53 , 2 ^ 53 ) + #string.sub( "abc" , 2 ^ 53 ) + #string.sub( "" , -1 , -1 )
-- gives 0
return #string.sub( "abc" , 0 / 0 , 0 / 0 )
-- gives 3
return select( "#" , string.byte( "abc" , -2 ^ 31 , 2 ^ 31 ) )
-- fails: string slice too long
return string.byte( string.rep( "x" , 1e4 ) , 1 , -1 )
-- fails: invalid value
return string.char( 256 )
-- fails: invalid value
return string.char( -1 )
-- gives 7000
local t = { } for i = 1 , 7000 do t[ i ] = 65 end return #string.char( unpack( t ) )
-- gives 2
return string.find( "abc" , "b" , -2 ^ 53 )
-- gives 0
return string.find( "abc" , "b" , 2 ^ 53 )
-- gives 1
return string.find( "abc" , "" , 0 / 0 )
-- gives 7
return #string.gsub( "abc" , "" , "%" )
-- fails: invalid capture index
return string.gsub( "abc" , "b" , "%9" )
-- gives 0
return select( 2 , string.gsub( "abc" , "." , "x" , -1 ) ) + select( 2 , string.gsub( "abc" , "." , "x" , 0 / 0 ) )
-- fails: step budget spent
for a in string.gfind( string.rep( "a" , 3000 ) , string.rep( "a*" , 20 ) .. "b" ) do end
-- fails: pattern too complex
for a in string.gfind( string.rep( "a" , 100000 ) , string.rep( "a?" , 50000 ) ) do end
-- fails: pattern too complex
return string.match( string.rep( "a" , 100000 ) , string.rep( "a?" , 50000 ) )
-- fails: unable to dump given function
return string.dump( string.rep )
-- gives 1
return #string.dump( function( ) end ) > 0
-- gives 3000000
return #string.upper( string.rep( "x" , 3e6 ) )
-- gives 0
return #string.reverse( "" ) + #string.lower( "" )

-- table: positions, counts and order functions
-- fails: step budget spent
table.insert( { } , -2147483647 , 1 )
-- fails: number out of range
table.insert( { } , 2 ^ 31 , 1 )
-- fails: number out of range
table.insert( { } , 0 / 0 , 1 )
-- gives 1
local t = { } table.insert( t , 0 , "a" ) return t[ 0 ] == "a" and t[ 1 ] == nil
-- gives 1
local t = { } table.insert( t , 2147483647 , "a" ) return t[ 2147483647 ] == "a"
-- gives 3
local t = { 1 , 2 } table.insert( t , 1 , 0 ) return #t
-- fails: wrong number of arguments to 'insert'
table.insert( { } , 1 , 2 , 3 )
-- fails: table expected
table.insert( 5 , 1 )
-- gives 0
return select( "#" , table.remove( { } , -2 ^ 31 ) ) + select( "#" , table.remove( { 1 , 2 , 3 } , 2 ^ 40 ) ) + select( "#" , table.remove( { } ) )
-- fails: invalid value (nil) at index 1 in table for 'concat'
return table.concat( { } , "x" , 1 , 2147483647 )
-- fails: invalid value (nil) at index 2147483646 in table for 'concat'
return table.concat( { "a" } , "" , 2147483646 , 2147483647 )
-- fails: invalid value (nil) at index -2147483648 in table for 'concat'
return table.concat( { "a" } , "" , -2147483648 , -2147483647 )
-- gives 0
return #table.concat( { } , "" , 2147483647 , -2147483648 )
-- gives 1000002
return #table.concat( { "a" , "b" } , string.rep( "x" , 1e6 ) )
-- fails: invalid order function for sorting
local t = { } for i = 1 , 100 do t[ i ] = i end table.sort( t , function( a , b ) return true end )
-- fails: invalid order function for sorting
local s = 1 local t = { } for i = 1 , 100 do t[ i ] = i end table.sort( t , function( a , b ) s = ( s * 75 + 74 ) % 65537 return s % 2 == 0 end ) return #t
-- fails: attempt to compare
table.sort( { 3 , "a" , 1 } )
-- fails: step budget spent
local t = { } for i = 1 , 100000 do t[ i ] = i end while true do table.sort( t , function( a , b ) return a > b end ) end
-- gives 0
return table.maxn( { } ) + table.getn( { n = 5 } )
-- fails: 'setn' is obsolete
table.setn( { } , 5 )

-- math
-- fails: interval is empty
return math.random( 0 )
-- fails: interval is empty
return math.random( 2 , 1 )
-- gives 1
return type( math.random( -2 ^ 31 , 2 ^ 31 - 1 ) ) == "number"
-- gives 1
return math.floor( 0 / 0 ) ~= math.floor( 0 / 0 )
-- gives 2147483647
return math.ldexp( 1 , 1e9 )
-- fails: number expected, got no value
return math.max( )
-- gives 1
math.randomseed( 0 / 0 ) math.randomseed( 2 ^ 63 ) return 1
-- gives 1
local a , b = math.frexp( 0 / 0 ) local c , d = math.modf( -1 / 0 ) return a ~= a and c == -1 / 0

-- os: time, clock, date
-- gives 1
return os.date( "%Y" , 2 ^ 62 ) == nil and os.date( "*t" , -2 ^ 62 ) == nil
-- gives 1
return os.date( "%c" , 0 / 0 ) == nil or type( os.date( "%c" , 0 / 0 ) ) == "string"
-- gives 1
return os.date( "!%" , 0 ) == "%"
-- gives 1
return type( os.date( "!%Ez%Q%E%O" , 0 ) ) == "string"
-- gives 1
return #os.date( "!" .. string.rep( "%c" , 100000 ) , 0 ) >= 2400000
-- gives 1
return select( "#" , os.time( { year = 2 ^ 31 , month = 2 ^ 31 , day = 2 ^ 31 } ) ) == 1
-- gives 1
return select( "#" , os.time( { year = 0 / 0 , month = -2 ^ 40 , day = 1 , hour = 1e300 } ) ) == 1
-- fails: field 'day' missing in date table
return os.time( { } )
-- gives 1
return os.clock( ) >= 0

-- the parser's own nesting
-- fails: chunk has too many syntax levels
return ((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((1))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))
-- fails: chunk has too many syntax levels
local t = {{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}
