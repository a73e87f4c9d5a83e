#pragma once

// The programs of the suite note where they are in the settings, so that the about box can list
// them: value "{PROG-000n}" holds "Title","/full/path/of/the/program" (each in double quotes).
// Numbers: 0 Kestrix, 1 Pictor, 2 Tessel, 4 Bundra; the about box reads 0 to 9.

#include <QString>

#include <vector>

namespace kestrix {

struct RegisteredProgram {
    int number = 0;
    QString title;
    QString path;
};

// The value name of program `number`: "{PROG-0000}" for 0.
QString ProgramValueName(int number);

// Writes this program's value, `title` and `executablePath` (by default the running program's),
// when the settings key exists; it never creates the key. Returns whether the value was written.
bool RegisterProgram(int number, const QString& title, const QString& executablePath = {});

// The programs 0 to 9 whose value exists, in number order. A value without the quoted form is
// taken as it stands as the title, with an empty path.
std::vector<RegisteredProgram> RegisteredPrograms();

}  // namespace kestrix
