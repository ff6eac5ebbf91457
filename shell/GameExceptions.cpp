#include "shell/GameExceptions.h"

EGameErr::EGameErr() : Exception("GameErr") {}

EGameEnd::EGameEnd() : Exception("GameEnd") {}
