#pragma once

#include <QString>

class Table;

// Search as the user types in a registry window: the table is closed, given the
// statement "SELECT * from <tabella> where <colonna> like ? ... order by <colonna>"
// and opened again. The typed text is bound as a parameter and its pattern
// characters are escaped, so every character (quotes, backslashes, "%", "_"
// included) is matched as itself and nothing typed can change the statement. An
// empty text lists every row whose column is not null. The statement stays in
// force for later openings. A statement the database refuses leaves the table
// closed and throws.
void cercaNelRegistro(Table& t, const QString& tabella, const QString& colonna,
                      const QString& testo);

// The LIKE pattern "contains testo", with "!" as escape character.
QString motivoContiene(const QString& testo);
