#include "datatypes/DTAnimDescriptor.h"

#include "datatypes/DTVariant.h"

DTAnimDescriptor::DTAnimDescriptor() {
	ReserveMembers( 1 );
	RegisterMember( DTVariant( &moSoundEventIDs ), "SOUND_EVENT_IDS" );
}

DTAnimDescriptor::~DTAnimDescriptor() {
}
