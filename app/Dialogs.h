#pragma once
// The confirmation dialog every window asks through: "Confirmation", Yes and No captioned in the
// current language; only Yes lets an operation go on.
#include "lang/Language.h"
#include "ui/Application.h"

#include <string>

bool confirm(ui::Application& app, const lang::Language& language, const std::string& question);
