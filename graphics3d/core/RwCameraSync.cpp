#include "graphics3d/core/RwCameraSync.h"

#include "graphics3d/core/RwFrame.h"

static RwV3d Add( const RwV3d& a, const RwV3d& b ) {
	return { a.x + b.x, a.y + b.y, a.z + b.z };
}

static RwV3d Sub( const RwV3d& a, const RwV3d& b ) {
	return { a.x - b.x, a.y - b.y, a.z - b.z };
}

static RwV3d Scale( const RwV3d& a, const f32 s ) {
	return { a.x * s, a.y * s, a.z * s };
}

static f32 Dot( const RwV3d& a, const RwV3d& b ) {
	return RwV3dDotProduct( &a, &b );
}

// The matrix's column of one screen axis: the x (or y) components of
// right, up and at together.
static void SetColumnX( RwMatrix* m, const RwV3d& column ) {
	m->right.x = column.x;
	m->up.x = column.y;
	m->at.x = column.z;
}

static void SetColumnY( RwMatrix* m, const RwV3d& column ) {
	m->right.y = column.x;
	m->up.y = column.y;
	m->at.y = column.z;
}

static void SetColumnZ( RwMatrix* m, const RwV3d& column ) {
	m->right.z = column.x;
	m->up.z = column.y;
	m->at.z = column.z;
}

static void BuildViewMatrix( RwCamera* camera, const RwMatrix* ltm ) {
	const RwV2d& recip = camera->recipViewWindow;
	const RwV2d& offset = camera->viewOffset;
	const f32 sx = -0.5f * recip.x;
	const f32 sy = -0.5f * recip.y;
	f32 tx = 0.0f;
	f32 ty = 0.0f;
	if ( camera->projectionType == rwPARALLEL ) {
		tx = -sx * offset.x;
		ty = sy * offset.y;
	} else {
		tx = 0.5f - sx * offset.x;
		ty = 0.5f + sy * offset.y;
	}
	RwMatrix* const view = &camera->viewMatrix;
	const RwV3d& position = ltm->pos;
	const RwV3d columnX = Add( Scale( ltm->right, sx ), Scale( ltm->at, tx ) );
	const RwV3d columnY = Add( Scale( ltm->up, sy ), Scale( ltm->at, ty ) );
	SetColumnX( view, columnX );
	SetColumnY( view, columnY );
	SetColumnZ( view, ltm->at );
	view->pos.x = 0.5f - ( tx + Dot( position, columnX ) );
	view->pos.y = 0.5f - ( ty + Dot( position, columnY ) );
	view->pos.z = -Dot( position, ltm->at );
	RwMatrixOptimize( view, nullptr );
}

static void BuildPerspectiveCorners( RwCamera* camera, const RwMatrix* ltm ) {
	const RwV2d& window = camera->viewWindow;
	const RwV2d& offset = camera->viewOffset;
	const RwV3d& right = ltm->right;
	const RwV3d& up = ltm->up;
	RwV3d corners[4];
	corners[0] = Add( Add( ltm->at, Scale( right, window.x ) ), Scale( up, window.y ) );
	corners[1] = Sub( corners[0], Scale( right, 2.0f * window.x ) );
	corners[2] = Sub( corners[1], Scale( up, 2.0f * window.y ) );
	corners[3] = Add( corners[2], Scale( right, 2.0f * window.x ) );
	const RwV3d origin = Add( Scale( right, -offset.x ), Scale( up, offset.y ) );
	const RwV3d base = Add( ltm->pos, origin );
	for ( s32 i = 0; i < 4; i++ ) {
		const RwV3d fromOrigin = Sub( corners[i], origin );
		camera->frustumCorners[i] = Add( base, Scale( fromOrigin, camera->nearPlane ) );
		camera->frustumCorners[i + 4] = Add( base, Scale( fromOrigin, camera->farPlane ) );
	}
}

static void BuildParallelCorners( RwCamera* camera, const RwMatrix* ltm ) {
	const RwV2d& window = camera->viewWindow;
	const RwV2d& offset = camera->viewOffset;
	static const f32 signX[4] = { 1.0f, -1.0f, -1.0f, 1.0f };
	static const f32 signY[4] = { 1.0f, 1.0f, -1.0f, -1.0f };
	const f32 depths[2] = { camera->nearPlane, camera->farPlane };
	RwV3d local[RWCAMERA_FRUSTUM_CORNERS];
	for ( s32 d = 0; d < 2; d++ ) {
		const f32 z = depths[d];
		for ( s32 i = 0; i < 4; i++ ) {
			local[d * 4 + i] = { signX[i] * window.x + ( 1.0f - z ) * -offset.x,
								 signY[i] * window.y + ( 1.0f - z ) * offset.y, z };
		}
	}
	RwV3dTransformPoints( camera->frustumCorners, local, RWCAMERA_FRUSTUM_CORNERS, ltm );
}

static void SetPlane( RwFrustumPlane* plane, const RwV3d& normal, const f32 distance ) {
	plane->plane.normal = normal;
	plane->plane.distance = distance;
	plane->closestX = normal.x >= 0.0f ? 1 : 0;
	plane->closestY = normal.y >= 0.0f ? 1 : 0;
	plane->closestZ = normal.z >= 0.0f ? 1 : 0;
	plane->pad = 0;
}

// A side plane through point with the normal a x b scaled to unit length.
static void SetSidePlane( RwFrustumPlane* plane, const RwV3d& a, const RwV3d& b, const RwV3d& point ) {
	RwV3d normal;
	RwV3dCrossProduct( &normal, &a, &b );
	normal = Scale( normal, _rwInvSqrt( Dot( normal, normal ) ) );
	SetPlane( plane, normal, Dot( normal, point ) );
}

static void BuildPlanes( RwCamera* camera, const RwMatrix* ltm ) {
	const RwV3d* const n = &camera->frustumCorners[0];
	const RwV3d* const f = &camera->frustumCorners[4];
	RwFrustumPlane* const planes = camera->frustumPlanes;
	const RwV3d& at = ltm->at;
	SetPlane( &planes[0], at, Dot( at, f[0] ) );
	const RwV3d back = Scale( at, -1.0f );
	SetPlane( &planes[1], back, Dot( back, n[0] ) );
	SetSidePlane( &planes[2], Sub( n[1], f[1] ), Sub( f[2], f[1] ), n[1] );
	SetSidePlane( &planes[3], Sub( f[0], f[1] ), Sub( n[1], f[1] ), n[1] );
	SetSidePlane( &planes[4], Sub( n[3], f[3] ), Sub( f[0], f[3] ), n[3] );
	SetSidePlane( &planes[5], Sub( f[2], f[3] ), Sub( n[3], f[3] ), n[3] );
}

RwObjectHasFrame* _rwCameraSync( RwObjectHasFrame* object ) {
	RwCamera* const camera = reinterpret_cast<RwCamera*>( object );
	RwFrame* const frame = static_cast<RwFrame*>( object->object.parent );
	if ( frame == nullptr ) {
		return object;
	}
	const RwMatrix* const ltm = RwFrameGetLTM( frame );
	BuildViewMatrix( camera, ltm );
	if ( camera->projectionType == rwPARALLEL ) {
		BuildParallelCorners( camera, ltm );
	} else {
		BuildPerspectiveCorners( camera, ltm );
	}
	BuildPlanes( camera, ltm );
	RwBBoxCalculate( &camera->frustumBoundBox, camera->frustumCorners, RWCAMERA_FRUSTUM_CORNERS );
	return object;
}
