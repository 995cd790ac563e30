program NameInvalid;
var
  O: IDispatch;
begin
  try
    O := CreateOleObject('');
  except
    Writeln('an empty name is refused');  // expect: an empty name is refused
  end;
  try
    O := CreateOleObject(':1.1');
  except
    Writeln('a unique name needs a path');  // expect: a unique name needs a path
  end;
  O := CreateOleObject('not a name');  // expect error: could not create ole object:invalid bus name "not a name"
end.
