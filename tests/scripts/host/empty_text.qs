// expect compile error: unexpected end of file
// expect position: 0
{ A text holding only comments has no tokens at all. }
(* So the declarations meet the end of the text at once. *)
