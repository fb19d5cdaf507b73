// Moving values between the shown record of a collection and the form of the
// main window, and the status line.
#pragma once
#include <windows.h>

#include <cstdint>

struct Collection;

// Empties every field control; the reading lists show "No", Status "Shelved".
void ClearRecordForm(HWND window);
// Shows the collection's current record; without one the form stays cleared.
void ShowRecord(HWND window, const Collection& collection);
// Writes every control whose value differs from the stored one into the
// collection's current record, if there is one; a changed value counts as a change.
void StoreRecord(HWND window, Collection& collection);
// ShowRecord, then the status line.
void RefreshForm(HWND window, const Collection& collection);
// The kind the pressed kind button stands for: Book, Music, or Movie when neither is pressed.
uint32_t CheckedKind(HWND window);
// The Book label set for kind 1, the Movie label set for any other kind.
void SetKindLabels(HWND window, uint32_t kind);
// "No File!", "No Records!" or "Record N of M" in the status bar.
void UpdateStatusLine(HWND window, const Collection& collection);
