unit SharedTypes;
{ A record type that a script and another unit both use. }

type
  TReading = record
    Value, Scale: Integer;
  end;

end.
