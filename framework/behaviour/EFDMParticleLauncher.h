/*
===============================================================================

	Particle launcher: a ray probe that, on every pass whose ray hits,
	launches one particle of an emitter at the hit point, 0.001 off the
	surface, its at axis along the surface normal and its up axis along
	the launch direction laid onto the surface. A launch direction along
	the normal has no such part: the up axis then comes from the world
	axis least along the normal and the particle is spun about its at
	axis by one of 256 random angles.

	Particles of a type without a matrix are launched and left where the
	emitter put them.

===============================================================================
*/
#ifndef EF_DM_PARTICLE_LAUNCHER_H
#define EF_DM_PARTICLE_LAUNCHER_H

#include "framework/behaviour/EFDMRayIntersect.h"

class EFDMParticleLauncher : public EFDMRayIntersect {
public:
	static constexpr u32	TYPE_ID = 29;

	explicit				EFDMParticleLauncher( EFPhysic * owner );
							~EFDMParticleLauncher() override = default;

	void					PostColUpdate( EFCollisionStage * stage, f32 dt ) override;
	// DMParticleLauncherParams (direction normalised); null: the ray's
	// defaults, direction (0, 1, 0), emitter 0.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;

	DTVector3d				moDirection;
	u32						mui32EmitterId;
};

#endif
