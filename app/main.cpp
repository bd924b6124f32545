#include "app/Quillmere.h"

int main(int argc, char** argv) {
    CQuillmereApp app(argc, argv);
    return app.InitInstance() ? app.exec() : app.ExitCode();
}
