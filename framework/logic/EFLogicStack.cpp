#include "framework/logic/EFLogicStack.h"

EFLogicStack* gpoLogicStack = nullptr;

EFLogicStack::EFLogicStack() : mppGameObj(), miCurStackLevel( 0 ) {
}

EFLogicStack* EFLogicStack::Create() {
	if ( gpoLogicStack == nullptr ) {
		gpoLogicStack = new EFLogicStack();
	}
	return gpoLogicStack;
}

void EFLogicStack::Destroy() {
	delete gpoLogicStack;
	gpoLogicStack = nullptr;
}
