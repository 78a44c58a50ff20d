#pragma once
#include "startup/Program.h"

#include <string>

namespace papyra {

// The column rulers: 111 and 137 characters, one short of the fitted line so neither wraps.
extern const char* const PortraitRuler;
extern const char* const LandscapeRuler;

// TEST mode: writes the portrait (PageOrientation exactly "P") or landscape ruler page into the
// test print file, prints it through the engine and ends the document. Failures writing the file
// go to the caller.
void PrintTestPage(Program& program);

// The setup window's test: the 66-line Harvex page, whatever the orientation. Returns the test
// print file's path; printing it is the caller's.
std::string WriteSetupTestPage(Program& program);

} // namespace papyra
