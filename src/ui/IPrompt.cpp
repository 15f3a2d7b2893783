#include "ui/IPrompt.h"

IPrompt::~IPrompt() = default;
