// Opening, creating, saving and leaving record files. The program never edits
// the user's file: it works on a working copy in the data folder and puts it
// in the user's file's place on Save.
#pragma once
#include "program.h"

// Sets workPath to "Temp.dat" in the data folder, or to "Temp1.dat",
// "Temp2.dat", ... when another running instance holds that one: every
// instance keeps a named lock on its working copy for its whole life.
void ChooseWorkPath(char* workPath, size_t size);

// The Open (open 1) or Save (open 0) dialog for record files (filter 0) or
// all files (filter 2); path, of PATH_SIZE characters, holds the name it
// starts with and receives the chosen path. 1 when the user chose a file.
// Another dialog gives its own title and file types (filter 1 is its first).
int ChooseFile(HWND owner, char* path, uint32_t filter, int open, const char* title = nullptr,
               const char* types = nullptr);

// Copies the user's file over the working copy and opens and shows it; on
// failure the "File Error" notice and no file open.
void OpenUserFile(Program& program, const char* path);

// Stores the form, then asks whether to save when the open collection has
// unsaved changes, and saves on Yes. False when the file must not be left:
// the user chose Cancel, or the save failed.
bool ConfirmLeaveFile(Program& program);

// Puts the working copy in the user's file's place; a collection never saved
// gets its file in the Save dialog first. 1 when it was saved, 0 when the
// Save dialog was cancelled, -1 when saving failed ("Save Failed" was shown).
int SaveUserFile(Program& program);

// A write to the working copy, or a read of it, that failed since the last
// look: shown once as "File Error", and the collection counts as changed.
void ReportFileFailure(Program& program);

// Keeps the working copy's recovery note in step with the collection's unsaved
// changes, so that a program that ends without asking leaves them to recover.
void NoteUnsavedChanges(Program& program);
// Removes the note: the changes were saved or discarded, or the working copy replaced.
void ForgetUnsavedChanges(Program& program);
// At start-up: changes that a program no longer running left in this instance's
// working copy are offered back. True when they were taken up.
bool OfferRecovery(Program& program);

// The File commands: New, Open, Save, Close, and Exit (also the close box,
// Escape and the end of the session, for which it returns whether the window
// is gone).
void NewCommand(Program& program);
void OpenCommand(Program& program);
void SaveCommand(Program& program);
// Stores the form, then adds the records of a CSV file the user picks and
// shows the first of them; a notice says how many, or why none were added.
void ImportCommand(Program& program);
void CloseUserFile(Program& program);
bool ExitProgram(Program& program);
