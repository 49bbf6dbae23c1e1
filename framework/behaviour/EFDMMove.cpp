#include "framework/behaviour/EFDMMove.h"

#include "framework/behaviour/EFDMHelpers.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFDynamicPhysic.h"

EFDMMove::EFDMMove( EFPhysic * owner ) : EFPhysicModule( TYPE_WORD, owner ), moVelocity(), mui32Flags( 0 ) {
}

void EFDMMove::SetParams( void * params ) {
	if ( params == nullptr ) {
		moVelocity = DTVector3d();
		mui32Flags = 0;
		return;
	}
	const DMMoveParams & record = *static_cast<const DMMoveParams *>( params );
	moVelocity = record.oVelocity;
	mui32Flags = record.ui32Flags;
}

void EFDMMove::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMMoveParams & record = *static_cast<DMMoveParams *>( params );
	record.oVelocity = moVelocity;
	record.ui32Flags = mui32Flags;
}

u32 EFDMMove::PreColUpdate( EFDynamicPhysic & record, f32 ) {
	if ( ( mui32Flags & EF_DM_MOVE_BODY_AXES ) != 0 ) {
		record.oTargetVelocity += DMTransformVector( moVelocity, DMOwnerLTM( *this ) );
	} else {
		record.oTargetVelocity += moVelocity;
	}
	return 1;
}
