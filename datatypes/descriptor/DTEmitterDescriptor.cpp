#include "datatypes/descriptor/DTEmitterDescriptor.h"

#include "datatypes/property/DTVariant.h"

namespace {

constexpr u32 OWN_MEMBER_COUNT = 7;

} // namespace

DTEmitterDescriptor::DTEmitterDescriptor()
	: mui32BoneId( 0 ), moPosition{ 0.0f, 0.0f, 0.0f }, moLookAt{ 0.0f, 0.0f, 0.0f }, moLookUp{ 0.0f, 0.0f, 0.0f },
	  moLookRight{ 0.0f, 0.0f, 0.0f } {
	ReserveMembers( OWN_MEMBER_COUNT );
	RegisterMember( DTVariant( &mui32BoneId ), "BONE_ID" );
	RegisterMember( DTVariant( &moPosition ), "POS" );
	RegisterMember( DTVariant( &moLookAt ), "LOOK_AT" );
	RegisterMember( DTVariant( &moLookUp ), "LOOK_UP" );
	RegisterMember( DTVariant( &moLookRight ), "LOOK_RIGHT" );
	RegisterMember( DTVariant( moEmitter.GetSizeField() ), "PARTEMI_SIZE" );
	RegisterMember( DTVariant( static_cast<DTStreamable *>( &moEmitter ) ), "PARTEMI" );
}

DTEmitterDescriptor::DTEmitterDescriptor( const DTEmitterDescriptor & other )
	: DTEmitterDescriptor() {
	Copy( other );
}

DTEmitterDescriptor::~DTEmitterDescriptor() {
}

DTEmitterDescriptor & DTEmitterDescriptor::operator=( const DTEmitterDescriptor & other ) {
	Copy( other );
	return *this;
}

void DTEmitterDescriptor::Copy( const DTEmitterDescriptor & other ) {
	if ( this == &other ) {
		return;
	}
	SetUID( other.GetUID() );
	mui32BoneId = other.mui32BoneId;
	moPosition = other.moPosition;
	moLookAt = other.moLookAt;
	moLookUp = other.moLookUp;
	moLookRight = other.moLookRight;
	moEmitter = other.moEmitter;
}
