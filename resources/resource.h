// Resource identifiers of the program.
#pragma once
