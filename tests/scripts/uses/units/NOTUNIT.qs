program NotUnit;
{ A program, not a unit: it cannot be used. }
begin
end.
