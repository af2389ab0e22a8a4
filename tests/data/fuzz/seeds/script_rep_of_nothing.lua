-- stops: step budget spent
return string.rep( "" , 2 ^ 31 )
