#include "Catalogo.h"

TListaMacchine ListaMacchine;
TListaVersioni ListaVersioni;
