#pragma once

#include "platform/Commands.h"

class AlertPresenter;
class Application;
class Authorization;
class Bundle;
class FileManager;
class FileSystemStats;
class LanguagePreferences;
class TaskLauncher;

// Everything the controller needs of the operating system. `main` fills it with the real
// implementations; tests fill it with fakes.
struct Platform {
    TaskLauncher& tasks;
    FileManager& files;
    FileSystemStats& stats;
    AlertPresenter& alerts;
    LanguagePreferences& languages;
    Application& application;
    Bundle& bundle;
    Authorization& authorization;
    Commands commands;
};
