#include "datatypes/descriptor/DTTextureAnimationDescriptor.h"

#include "datatypes/property/DTVariant.h"

DTTextureAnimationDescriptor::DTTextureAnimationDescriptor() {
	ReserveMembers( 1 );
	RegisterMember( DTVariant( &moTextureFileName ), "TEXTURE_FILE_NAME" );
}

DTTextureAnimationDescriptor::~DTTextureAnimationDescriptor() {
}
