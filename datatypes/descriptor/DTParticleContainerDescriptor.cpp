#include "datatypes/descriptor/DTParticleContainerDescriptor.h"

#include "datatypes/property/DTVariant.h"

DTParticleContainerDescriptor::DTParticleContainerDescriptor()
	: miNbTypes( 0 ) {
	ReserveMembers( 3 );
	RegisterMember( DTVariant( &miNbTypes ), "NB" );
	RegisterMember( DTVariant( moTypes.GetSizeField() ), "PARTYPE_SIZE" );
	RegisterMember( DTVariant( static_cast<DTStreamable *>( &moTypes ) ), "PARTTYPES" );
}

DTParticleContainerDescriptor::~DTParticleContainerDescriptor() {
}
