#include "framework/physics/EFCollisionReport.h"

#include "framework/core/world/EFPhysicData.h"
#include "framework/logic/api/LogicApiRecords.h"
#include "framework/physics/EFCollisionStage.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/physics/EFPhysic.h"

namespace {

// Attribute words sent along with a contact notification.
constexpr u32 EF_ATTR_NOTIFY_FIRST = 7;

// One party of the contact: the body that owns the primitive and the
// primitive.
struct Party {
	EFPhysicData *			poOwner;
	EFObjCollisionPrim *	poPrim;
	const DTVector3d *		poVelocity;
};

// Tells notified of the contact with other; asking is the primitive
// whose bits asked for it, side 1 when it is the notified body's own.
void Send( const Party & notified, const Party & other, const EFObjCollisionPrim & asking, const u32 side ) {
	if ( notified.poOwner == nullptr ) {
		return;
	}
	EFObjectCollisionRecord record = {};
	record.ui32Side = side;
	record.ui32Tag = notified.poPrim->mui32Tag;
	record.ui32OtherId = other.poOwner != nullptr ? other.poOwner->GetUID() : 0;
	record.ui32OtherTag = other.poPrim->mui32Tag;
	for ( u32 i = 0; i < EF_COL_NOTIFY_WORDS; i++ ) {
		record.aui32Attribs[i] = asking.GetAttrib( EF_ATTR_NOTIFY_FIRST + i );
	}
	record.oVelocity = *notified.poVelocity;
	record.oOtherVelocity = *other.poVelocity;
	// Modules hear it first, then logic, from the same record.
	notified.poOwner->Notify( NO_DM_OBJCOL, &record, false );
	notified.poOwner->Notify( NO_PHYSIC_OBJECTCOLLISION, &record, false );
}

}

void EFCollisionReport::CheckNotify( const DTVector3d & velocityA, const DTVector3d & velocityB ) {
	if ( mpoOtherRecord == nullptr || mpoStage == nullptr || mui32PrimIndex >= mpoStage->mui32NbPrims ) {
		return;
	}
	const EFCollisionModel & model = mpoOtherRecord->poPhysic->moCollisionModel;
	if ( mui32OtherPrimIndex >= model.mui32MaxPrims ) {
		return;
	}
	EFObjCollisionPrim * const primA = mpoStage->mapoPrims[mui32PrimIndex];
	EFObjCollisionPrim * const primB = model.mppoPrimArray[mui32OtherPrimIndex];
	if ( primA == nullptr || primB == nullptr ) {
		return;
	}
	// A's primitive may belong to a child body attached to the member.
	const Party a = { mpoStage->mapoPrimOwners[mui32PrimIndex]->GetOwner(), primA, &velocityA };
	const Party b = { mpoOtherRecord->poPhysic->GetOwner(), primB, &velocityB };
	const u32 flagsA = primA->GetAttrib( EF_ATTR_FLAGS );
	const u32 flagsB = primB->GetAttrib( EF_ATTR_FLAGS );
	if ( ( flagsA & EF_PRIM_NOTIFY_SELF ) != 0 ) {
		Send( a, b, *primA, 1 );
	}
	if ( ( flagsA & EF_PRIM_NOTIFY_OTHER ) != 0 ) {
		Send( b, a, *primA, 0 );
	}
	if ( ( flagsB & EF_PRIM_NOTIFY_SELF ) != 0 ) {
		Send( b, a, *primB, 1 );
	}
	if ( ( flagsB & EF_PRIM_NOTIFY_OTHER ) != 0 ) {
		Send( a, b, *primB, 0 );
	}
}
