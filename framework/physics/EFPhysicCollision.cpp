/*
	EFPhysic: the body's collision tests against polygons, bodies and
	particles, and its ray test.
*/
#include "framework/physics/EFPhysic.h"

#include "framework/core/world/EFPhysicData.h"
#include "framework/graphics/particles/PLEmitter.h"
#include "framework/graphics/particles/PLType.h"
#include "framework/physics/EFCollisionReport.h"
#include "framework/physics/EFCollisionStage.h"
#include "framework/physics/EFContactReport.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/physics/EFPhysicMgr.h"
#include "framework/physics/EFPushRecord.h"

#include <cmath>

namespace {

// Pushes at or below this size are ignored.
constexpr f32 MIN_PUSH			= 0.001f;
// A normal speed below this (2^-8) is not an approach.
constexpr f32 MIN_APPROACH		= 0.00390625f;
// Primitive flags that keep a primitive out of object responses.
constexpr u32 NO_RESPONSE		= EF_PRIM_DETECT_ONLY | EF_PRIM_OFF | EF_PRIM_NO_OBJ_RESPONSE;
constexpr u32 DETECTION_ONLY	= EF_PRIM_DETECT_ONLY | EF_PRIM_NO_OBJ_RESPONSE;

struct ParticleHits {
	u32		ui32TypeId;
	u32		ui32EmitterId;
	u32		ui32Hits;
};

bool Approaching( const DTVector3d & normal, const DTVector3d & velocity ) {
	const f32 speed = normal * velocity;
	return speed < 0.0f && std::fabs( speed ) >= MIN_APPROACH;
}

// A contact at the front of the stage's list; false when the pool is empty.
bool AddContact( EFCollisionStage & stage, const DTVector3d & normal, EFPhysic * body, EFObjCollisionPrim * prim,
				 EFEnvCollisionPrim * polygon ) {
	EFContactReport * const contact = EFPhysicMgr::moPhysicMgr.TakeContact();
	if ( contact == nullptr ) {
		return false;
	}
	*contact = { normal, body, prim, polygon, stage.mpoContactList };
	stage.mpoContactList = contact;
	return true;
}

// A push record on the stage; false when the pool is empty.
bool AddPush( EFCollisionStage & stage, const DTVector3d & normal, const f32 size, const u32 priority,
			  const f32 weight ) {
	EFPushRecord * const push = EFPhysicMgr::moPhysicMgr.TakePush();
	if ( push == nullptr ) {
		return false;
	}
	*push = { normal, size, priority, weight, stage.mpoPushList };
	stage.mpoPushList = push;
	stage.mui32NbPush++;
	return true;
}

// A report into the stage's new reports; false when the pool is empty.
bool AddReport( EFCollisionStage & stage, EFCollisionStage * otherStage, EFDynamicPhysic * otherRecord, const u32 index,
				const DTVector3d & normal, const f32 time, const u32 otherIndex, EFEnvCollisionPrim * polygon,
				const u32 overlap ) {
	EFCollisionReport * const report = EFPhysicMgr::moPhysicMgr.TakeReport();
	if ( report == nullptr ) {
		return false;
	}
	*report = { &stage, otherStage, otherRecord, index, normal, time, otherIndex, polygon, nullptr, overlap };
	stage.InsertNewReport( report );
	if ( otherStage != nullptr && time < otherStage->mfEarliestTime ) {
		otherStage->mfEarliestTime = time;
	}
	return true;
}

bool IsAncestor( const EFPosData * ancestor, const EFPosData * instance ) {
	for ( const EFPosData * at = instance != nullptr ? instance->mpParent : nullptr; at != nullptr; at = at->mpParent ) {
		if ( at == ancestor ) {
			return true;
		}
	}
	return false;
}

}

bool EFPhysic::IsRelative( const EFPhysic & other ) const {
	const EFPhysicData * const mine = GetOwner();
	const EFPhysicData * const theirs = other.GetOwner();
	if ( mine == nullptr || theirs == nullptr ) {
		return false;
	}
	return IsAncestor( mine, theirs ) || IsAncestor( theirs, mine );
}

bool EFPhysic::CheckEnvCollisions( EFCollisionStage & stage, const f32 elapsed, const f32 dt ) {
	const EFCheckCollisionIn in = { dt - elapsed, moVelocity };
	bool reported = false;
	for ( u32 i = 0; i < stage.mui32NbPrims && i < EF_STAGE_MAX_PRIMS; i++ ) {
		EFObjCollisionPrim * const prim = stage.mapoPrims[i];
		if ( prim == nullptr ) {
			continue;
		}
		const u32 flags = prim->GetAttrib( EF_ATTR_FLAGS );
		const u32 detect = prim->GetAttrib( EF_ATTR_ENV_DETECT );
		const u32 udDetect = prim->GetAttrib( EF_ATTR_UD_ENV_DETECT );
		if ( ( flags & EF_PRIM_ENV_COLLISIONS ) == 0 || ( flags & ( EF_PRIM_DETECT_ONLY | EF_PRIM_OFF ) ) != 0 ||
			 ( detect | udDetect ) == 0 ) {
			continue;
		}
		for ( u32 k = 0; k < stage.mui32NbEnvPrims; k++ ) {
			EFEnvCollisionPrim * const polygon = stage.mppoEnvPrims[k];
			const EnvPrimAttribs * const attribs = polygon->GetAttribs();
			if ( ( attribs->ui32DetectedBy & detect ) == 0 && ( attribs->ui32UDDetectedBy & udDetect ) == 0 ) {
				continue;
			}
			EFCheckCollisionOut out = {};
			const u32 result = prim->CheckEnvCollision( in, out, polygon );
			if ( ( result & ( CS_COL_HIT | CS_COL_PUSH ) ) == 0 ) {
				continue;
			}
			const bool touching = ( result & CS_COL_PUSH ) != 0;
			// A record the pools cannot give is noted on the stage.
			const DTVector3d & n = out.moColNormal;
			if ( touching ) {
				if ( !AddContact( stage, n, nullptr, nullptr, polygon ) ) {
					stage.LoseEnvRecord( EF_STAGE_LOST_CONTACT, n );
				}
				if ( out.mfPushSize > MIN_PUSH &&
					 !AddPush( stage, n, out.mfPushSize, EF_ENV_PUSH_PRIORITY, EF_ENV_PUSH_WEIGHT ) ) {
					stage.LoseEnvRecord( EF_STAGE_LOST_PUSH, n );
				}
			}
			if ( Approaching( n, moVelocity ) ) {
				const f32 time = touching ? elapsed : elapsed + out.mfTime;
				if ( AddReport( stage, nullptr, nullptr, i, n, time, 0, polygon, touching ? 1 : 0 ) ) {
					reported = true;
				} else {
					stage.LoseEnvRecord( EF_STAGE_LOST_REPORT, n );
				}
			}
		}
	}
	return reported;
}

bool EFPhysic::CheckObjCollisions( EFCollisionStage & stage, EFDynamicPhysic & other, EFCollisionStage * otherStage,
								   const f32 elapsed, const f32 dt ) {
	EFPhysic & body = *other.poPhysic;
	const bool member = ( other.uiFlags & EF_RECORD_MEMBER ) != 0;
	// A body outside the system has not been moved this pass yet.
	const DTVector3d offset = member ? DTVector3d() : body.moVelocity * elapsed;
	const DTVector3d relative = moVelocity - body.moVelocity;
	const EFCheckCollisionIn in = { dt - elapsed, relative };
	if ( body.mui32PhysicFlags == 0 && ( mui32PhysicFlags & EF_PHYSIC_CARRIER ) == 0 && IsRelative( body ) ) {
		return false;
	}
	EFCollisionModel & model = body.moCollisionModel;
	bool reported = false;
	for ( u32 i = 0; i < stage.mui32NbPrims && i < EF_STAGE_MAX_PRIMS; i++ ) {
		EFObjCollisionPrim * const mine = stage.mapoPrims[i];
		if ( mine == nullptr || ( mine->GetAttrib( EF_ATTR_FLAGS ) & NO_RESPONSE ) != 0 ) {
			continue;
		}
		for ( u32 j = 0; j < model.mui32MaxPrims; j++ ) {
			EFObjCollisionPrim * const theirs = model.mppoPrimArray[j];
			if ( theirs == nullptr || ( theirs->GetAttrib( EF_ATTR_FLAGS ) & NO_RESPONSE ) != 0 ||
				 !EFObjCollisionPrim::Meet( *mine, *theirs ) ) {
				continue;
			}
			EFCheckCollisionOut out = {};
			theirs->Translate( offset );
			const u32 result = mine->CheckObjPrimCollision( in, out, theirs );
			theirs->Translate( -offset );
			if ( ( result & ( CS_COL_HIT | CS_COL_PUSH ) ) == 0 ) {
				continue;
			}
			const bool touching = ( result & CS_COL_PUSH ) != 0;
			const DTVector3d & n = out.moColNormal;
			if ( touching ) {
				AddContact( stage, n, &body, theirs, nullptr );
				if ( member && otherStage != nullptr ) {
					AddContact( *otherStage, -n, this, mine, nullptr );
				}
				const f32 size = out.mfPushSize;
				// A still platform is the stronger party of any pair: it
				// takes no share of a push.
				const bool stillMine = IsStillPlatform();
				const bool stillTheirs = body.IsStillPlatform();
				if ( size > MIN_PUSH ) {
					f32 share = stillMine ? 0.0f : size;
					if ( member && otherStage != nullptr && !stillTheirs &&
						 ( stillMine || body.muiPriority <= muiPriority ) ) {
						f32 theirShare = size;
						share = 0.0f;
						if ( !stillMine && body.muiPriority == muiPriority ) {
							const f32 total = mfWeight + body.mfWeight;
							share = size * body.mfWeight / total;
							theirShare = size * mfWeight / total;
							// Weights that sum to nothing share nothing out:
							// then each side takes half.
							if ( !std::isfinite( share ) || !std::isfinite( theirShare ) ) {
								share = theirShare = size * 0.5f;
							}
						}
						AddPush( *otherStage, -n, theirShare, muiPriority, mfWeight );
					}
					if ( share != 0.0f ) {
						AddPush( stage, n, share, body.muiPriority, body.mfWeight );
					}
				}
			}
			if ( Approaching( n, relative ) ) {
				const f32 time = touching ? elapsed : elapsed + out.mfTime;
				reported |= AddReport( stage, otherStage, &other, i, n, time, j, nullptr, touching ? 1 : 0 );
			}
		}
	}
	return reported;
}

void EFPhysic::CheckNoPushCollisions( EFCollisionStage * stage, EFDynamicPhysic * other ) {
	if ( stage == nullptr || other == nullptr ) {
		return;
	}
	EFPhysic & body = *other->poPhysic;
	EFCollisionModel & model = body.moCollisionModel;
	EFCollisionReport * report = nullptr;
	const EFCheckCollisionIn still = { 0.0f, DTVector3d() };
	for ( u32 i = 0; i < stage->mui32NbPrims && i < EF_STAGE_MAX_PRIMS; i++ ) {
		EFObjCollisionPrim * const mine = stage->mapoPrims[i];
		if ( mine == nullptr ) {
			continue;
		}
		for ( u32 j = 0; j < model.mui32MaxPrims; j++ ) {
			EFObjCollisionPrim * const theirs = model.mppoPrimArray[j];
			if ( theirs == nullptr ) {
				continue;
			}
			const u32 both = mine->GetAttrib( EF_ATTR_FLAGS ) | theirs->GetAttrib( EF_ATTR_FLAGS );
			if ( ( both & EF_PRIM_OFF ) != 0 || ( both & DETECTION_ONLY ) == 0 ||
				 !EFObjCollisionPrim::Meet( *mine, *theirs ) ) {
				continue;
			}
			EFCheckCollisionOut out = {};
			if ( ( mine->CheckObjPrimCollision( still, out, theirs ) & CS_COL_PUSH ) == 0 ) {
				continue;
			}
			if ( report == nullptr ) {
				report = EFPhysicMgr::moPhysicMgr.TakeReport();
				if ( report == nullptr ) {
					return;
				}
			}
			*report = { stage, nullptr, other, i, out.moColNormal, 0.0f, j, nullptr, nullptr, 1 };
			report->CheckNotify( moVelocity, body.moVelocity );
		}
	}
	EFPhysicMgr::moPhysicMgr.GiveBackReport( report );
}

void EFPhysic::CheckParticleCollisions( PLEmitter ** emitters, const u32 count ) {
	if ( emitters == nullptr ) {
		return;
	}
	const EFCollisionModel & model = moCollisionModel;
	for ( u32 e = 0; e < count; e++ ) {
		PLEmitter * const emitter = emitters[e];
		const PLType * const type = emitter->mpoType;
		if ( ( emitter->mui32Flags & ( PL_EMITTER_REPORT_FIRST_HIT | PL_EMITTER_COUNT_HITS ) ) == 0 || type == nullptr ) {
			continue;
		}
		if ( ( type->mui32DetectType & model.muiCollisionType ) == 0 &&
			 ( type->mui32UDDetectType & model.muiCollisionUDType ) == 0 &&
			 ( type->mui32CollisionType & model.muiCollisionDetectType ) == 0 &&
			 ( type->mui32UDCollisionType & model.muiCollisionUDDetectType ) == 0 ) {
			continue;
		}
		PLParticle::mui16GlobalCount++;
		const bool countMode = ( emitter->mui32Flags & PL_EMITTER_COUNT_HITS ) != 0;
		u32 hits = 0;
		for ( u32 i = 0; i < model.mui32MaxPrims; i++ ) {
			EFObjCollisionPrim * const prim = model.mppoPrimArray[i];
			if ( prim == nullptr || ( ( prim->GetAttrib( EF_ATTR_TYPE ) & type->mui32DetectType ) == 0 &&
									  ( prim->GetAttrib( EF_ATTR_DETECT ) & type->mui32CollisionType ) == 0 &&
									  ( prim->GetAttrib( EF_ATTR_UD_TYPE ) & type->mui32UDDetectType ) == 0 &&
									  ( prim->GetAttrib( EF_ATTR_UD_DETECT ) & type->mui32UDCollisionType ) == 0 ) ) {
				continue;
			}
			const u32 found = prim->CheckParticlesIntersection( emitter->moParticles.GetFirst(), countMode );
			if ( !countMode && found != 0 ) {
				hits = 1;
				break;
			}
			hits += found;
		}
		if ( countMode || hits != 0 ) {
			ParticleHits data = { type->muiUID, emitter->GetUID(), hits };
			Notify( NO_PHYSIC_PARTICLECOLLISION, &data );
		}
	}
}

RayIntersectResult EFPhysic::RayIntersect( const RayIntersectIn & in, EFRayIntersectOut & out, f32 & t ) {
	const EFCollisionModel & model = moCollisionModel;
	if ( ( in.ui32ObjDetectType & model.muiCollisionType ) == 0 &&
		 ( in.ui32ObjUDDetectType & model.muiCollisionUDType ) == 0 ) {
		return PS_RAY_NONE;
	}
	EFCheckSphereSphereCollisionIn sphereIn = { in.oStartVector - model.moPhysicBSphereWPos, in.oDeplVector,
												model.moPhysicBSphere.mfRadius };
	EFCheckSphereSphereCollisionOut sphereOut = {};
	const u32 sphere = EFObjCollisionPrim::CheckSphereSphereCollision( sphereIn, sphereOut );
	// A start inside the sphere passes at time 0.
	if ( ( sphere & ( CS_COL_HIT | CS_COL_INSIDE ) ) == 0 || sphereOut.mfTime > t ) {
		return PS_RAY_NONE;
	}
	RayIntersectResult result = PS_RAY_NONE;
	for ( u32 i = 0; i < model.mui32MaxPrims; i++ ) {
		EFObjCollisionPrim * const prim = model.mppoPrimArray[i];
		if ( prim == nullptr || ( ( prim->GetAttrib( EF_ATTR_TYPE ) & in.ui32ObjDetectType ) == 0 &&
								  ( prim->GetAttrib( EF_ATTR_UD_TYPE ) & in.ui32ObjUDDetectType ) == 0 ) ) {
			continue;
		}
		if ( prim->RayIntersect( in, out, t ) == 0 ) {
			continue;
		}
		out.poObjCollider = this;
		out.poObjSubCollider = prim;
		if ( out.poListener == nullptr ) {
			result = PS_RAY_OBJ;
			continue;
		}
		result = PS_RAY_MANY;
		out.oIntersectionPoint = in.oStartVector + in.oDeplVector * t;
		if ( out.poListener->RayIntersectionOccured( out, PS_RAY_OBJ ) ) {
			t = 1.0f;
		} else {
			t = -1.0f;
			out.poListener = nullptr;
			return PS_RAY_MANY;
		}
	}
	return result;
}
