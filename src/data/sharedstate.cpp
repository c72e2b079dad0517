#include "data/sharedstate.h"

#include "core/calculationsession.h"
#include "core/projectdocument.h"

namespace Module1 {

void resetSharedState()
{
    NomeTabella.clear();
    NomeTabMateriali.clear();
    ContaStampa = 0;
    CalculationSession::current().clear();
    ProjectDocument::current().startNew();
}

} // namespace Module1

void InizFattProt()
{
    CalculationSession::current().clearMeasures();
}
