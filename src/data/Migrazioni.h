#pragma once

#include "db/Migrations.h"

class Connection;

// The program's own steps over the invoice database, in the order they are applied: the
// tables, columns and indexes the program adds to the schema an existing installation
// has (latin1 tables, TINYINT(1) flags, no keys but the auto-increment ones). A change
// is a new step at the end of the list, with a name of its own; a released step is never
// edited, since databases out there have it recorded as done.
QList<MigrationStep> migrazioniFatture();

// Applies the steps the invoice database on `c` lacks. Throws DbError naming the step.
void applicaMigrazioni(Connection& c);
