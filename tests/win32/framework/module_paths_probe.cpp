// Prints what the path helpers say of this program, one line each: the
// module path, the program directory, the application name and the system
// directory. Run from deep folders by module_paths_test.
#include <windows.h>

#include <cstdio>

#include "framework/app.h"
#include "framework/module_paths.h"

int main() {
    std::printf("%s\n%s\n%s\n%s\n", GetModuleFilePath().c_str(), GetProgramDirectory().c_str(),
                AfxGetAppName(), GetSystemDirectoryPath().c_str());
    return 0;
}
