/*
===============================================================================

	Edge detection (post-collision): every pass with a stage, the
	grabbable edges within a radius of one primitive of the body, from
	the stage's environment polygons (flags bit 2) and from the polygon
	primitives of the stage's bodies (flags bit 3), up to 10 of them in
	world axes. A change of the set is told to the owner's logic callback
	at once (notification 24: tag, count, edges).

	The set is compared slot by slot: an edge whose ends lie within 1/64
	per coordinate of the slot's keeps it; anything else, or another
	count, is a change.

	A primitive gone from the slot array makes the update do nothing.

===============================================================================
*/
#ifndef EF_DM_EDGE_DETECT_H
#define EF_DM_EDGE_DETECT_H

#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFPhysicModule.h"
#include "datatypes/maths/DTVector3d.h"

class EFEnvCollisionPrim;
class EFObjCollisionPrim;
struct RwMatrix;

// Edges held at most.
constexpr u32 EF_DM_EDGE_DETECT_MAX = 10;

class EFDMEdgeDetect : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x40000019;

	explicit				EFDMEdgeDetect( EFPhysic * owner );
							~EFDMEdgeDetect() override = default;

	void					PostColUpdate( EFCollisionStage * stage, f32 dt ) override;
	// DMEdgeDetectParams (registers the callback); null does nothing.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;

	// The search around p; whether the set changed.
	bool					FindEdges( EFCollisionStage & stage, const EFObjCollisionPrim & prim, const DTVector3d & p );
	// The polygon's near grabbable edges around p, in its own axes; toWorld
	// (null for world axes) turns what is kept into world axes.
	void					FindEdgeOnPolygon( const EFEnvCollisionPrim & polygon, const DTVector3d & p,
											   const RwMatrix * toWorld, bool & changed );

	f32						mfRadius;
	u32						mui32PrimIndex;
	u32						mui32PrimTag;
	u32						mui32CallbackIndex;
	u32						mui32Flags;
	u32						mui32EdgeCount;
	DMEdgeData				maEdges[EF_DM_EDGE_DETECT_MAX];
	u32						mui32OwnerId;
};

#endif
