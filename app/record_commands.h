// What the user does with the records of the open collection: add, copy and
// delete them, move between them, sort, search with the navigator, rename the
// collection, and the form's date buttons and link field.
#pragma once
#include "program.h"

void AddCommand(Program& program);
void CopyCommand(Program& program);
void DeleteCommand(Program& program);
void GotoCommand(Program& program);
// Next (forward) or Previous; there is no wrapping round at the ends.
void StepCommand(Program& program, bool forward);
// Shows the record picked from the list of every record.
void ListCommand(Program& program);
void SortCommand(Program& program);
// Asks for a text, shows the first record that holds it and opens the navigator.
void SearchCommand(Program& program);
// A step of the open navigator, forward or backward from the shown record;
// the line the navigator shows under it: null, or "No Match Found".
const char* SearchStep(Program& program, bool forward);
void NameCommand(Program& program);
// The date prompt for the date button with that control id.
void PickDate(Program& program, int button);
// "Execute" hands the link field to the shell; "Change.." picks a file for it.
void ExecuteLink(HWND window);
void ChangeLink(Program& program);
