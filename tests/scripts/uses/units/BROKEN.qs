unit Broken;
{ A declaration error inside a unit. }

var
  Value: Integer;
  Value: string;

end.
