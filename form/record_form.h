// Moving values between the current record and the form, and the status line.
#pragma once
#include <cstdint>

// Empties every field control; the reading lists show "No", Status "Shelved".
void ClearRecordForm();
// Shows record currentRecord of hRecordFile; without one the form stays cleared.
void ShowRecord();
// Writes every control into record currentRecord of hRecordFile, if there is one.
void StoreRecord();
// The Book label set for kind 1, the Movie label set for any other kind.
void SetKindLabels(uint32_t kind);
// "No File!", "No Records!" or "Record N of M" in the status bar.
void UpdateStatusLine();
