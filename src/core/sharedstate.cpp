#include "core/sharedstate.h"

namespace Module1 {

void resetSharedState()
{
    MetodoCalcolo = 0;
    DensCarInc = 0;
    FattDim = 0;
    FattUtilizzo = 0;
    FattProt.fill(0);
    ValoreFormula = 0;
    SommaMateriali = 0;
    SommaArredoMerci = 0;
    FattImballo = 1.0;
    AttivitaScelta = 0;
    ValoreFrattile = 0;
    NomeTabella.clear();
    NomeTabMateriali.clear();
    ContaStampa = 0;
    AreaComp.clear();
}

} // namespace Module1

void InizFattProt()
{
    Module1::FattProt.fill(1.0);
}
