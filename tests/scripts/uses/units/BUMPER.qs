unit Bumper;
{ Changes the shared counter. }

uses SharedCount;

procedure BumpTwice;
begin
  Bump;
  Bump;
end;

end.
