#pragma once

#include "platform/Commands.h"

class TaskLauncher;
class FileManager;

// Everything the controller needs of the operating system. `main` fills it with the real
// implementations; tests fill it with fakes.
struct Platform {
    TaskLauncher& tasks;
    FileManager& files;
    Commands commands;
};
