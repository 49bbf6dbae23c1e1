#include "datatypes/descriptor/DTLoadingScreenDescriptor.h"

#include "datatypes/property/DTVariant.h"

DTLoadingScreenDescriptor::DTLoadingScreenDescriptor() {
	ReserveMembers( 2 );
	RegisterMember( DTVariant( &moLoadingScreen1 ), "LOADING_SCREEN1" );
	RegisterMember( DTVariant( &moLoadingScreen2 ), "LOADING_SCREEN2" );
}

DTLoadingScreenDescriptor::~DTLoadingScreenDescriptor() {
}
