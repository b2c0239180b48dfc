// The front ends that need Qt, in a module of their own: the program loads it only for the
// window and the headless gateway, so a one-shot calculation on the console starts without
// loading Qt's libraries.
#include "console/console_gateway.h"
#include "frontends/frontend_entry.h"
#include "qt/qt_session.h"

extern "C" OSTRAVEL_FRONTEND_EXPORT int ostravel_run_window(int argc, char** argv,
                                                            const char* programFolder,
                                                            const char* commandLine) {
  return ostravel::RunQt(argc, argv, programFolder, commandLine);
}

extern "C" OSTRAVEL_FRONTEND_EXPORT int ostravel_run_gateway(const char* programFolder) {
  return ostravel::RunHeadlessGateway(programFolder);
}
