#include "framework/graphics/effects/EFMotionTrailMgr_SP.h"

#include "framework/graphics/effects/EFEffectStates.h"

namespace {

u8 FadedByte( const f32 age, const f32 life, const f32 channel ) {
	if ( life <= 0.0f ) {
		return 0;
	}
	return EFColourByte( ( 1.0f - age / life ) * channel );
}

} // namespace

void EFMotionTrailMgr_SP::Render() {
	const u32 srcBlend = EFGetStateWord( EF_RS_SRC_BLEND );
	const u32 dstBlend = EFGetStateWord( EF_RS_DST_BLEND );
	const u32 vertexAlpha = EFGetStateWord( EF_RS_VERTEX_ALPHA );
	const u32 cullMode = EFGetStateWord( EF_RS_CULL_MODE );
	EFSetState( EF_RS_VERTEX_ALPHA, 1 );
	EFSetState( EF_RS_SRC_BLEND, EF_BLEND_ONE );
	EFSetState( EF_RS_DST_BLEND, EF_BLEND_ONE );
	EFSetState( EF_RS_ZWRITE, 0 );
	EFSetState( EF_RS_CULL_MODE, EF_CULL_NONE );
	for ( DTMap<u32, _sSystem*>::Node* node = moSystems.GetFirst(); node != nullptr; node = moSystems.GetNext( node ) ) {
		if ( ( node->mValue->ui32Flags & EF_TRAIL_DRAWING ) != 0 ) {
			RenderSystem( *node->mValue );
		}
	}
	EFSetState( EF_RS_CULL_MODE, cullMode );
	EFSetState( EF_RS_VERTEX_ALPHA, vertexAlpha );
	EFSetState( EF_RS_ZWRITE, 1 );
	EFSetState( EF_RS_SRC_BLEND, srcBlend );
	EFSetState( EF_RS_DST_BLEND, dstBlend );
}

void EFMotionTrailMgr_SP::RenderSystem( const _sSystem& system ) {
	const u32 rows = system.ui32RowCount;
	const u32 count = system.ui32PointCount;
	const u32 live = ( system.ui32Head + rows - system.ui32Tail ) % rows + 1;
	// Rows per piece: every vertex within the vertex buffer, and all rows
	// but the last with 2 C + 2 indices, the last with C + 2.
	u32 perPiece = EF_TRAIL_BUFFER_VERTICES / count;
	const u32 byIndices = ( EF_TRAIL_BUFFER_INDICES - ( count + 2 ) ) / ( 2 * count + 2 ) + 1;
	if ( byIndices < perPiece ) {
		perPiece = byIndices;
	}
	u32 first = system.ui32Tail;
	u32 remaining = live;
	while ( remaining >= 2 ) {
		const u32 take = remaining < perPiece ? remaining : perPiece;
		RenderRows( system, first, take );
		first = ( first + take - 1 ) % rows;
		remaining -= take - 1;
	}
}

void EFMotionTrailMgr_SP::RenderRows( const _sSystem& system, const u32 first, const u32 rows ) {
	const u32 count = system.ui32PointCount;
	u32 vertices = 0;
	u32 indices = 0;
	for ( u32 k = 0; k < rows; k++ ) {
		const _sVertex* const row = system.pVertices + ( ( first + k ) % system.ui32RowCount ) * count;
		const bool last = k + 1 == rows;
		maui16Indices[indices++] = static_cast<RwImVertexIndex>( vertices );
		for ( u32 i = 0; i < count; i++ ) {
			const _sControlPoint& point = system.pPoints[i];
			RwIm3DVertex& v = maoVertices[vertices];
			v.objVertex = { row[i].afPosition[0], row[i].afPosition[1], row[i].afPosition[2] };
			v.objNormal = { 0.0f, 0.0f, 0.0f };
			v.color = { FadedByte( row[i].fAge, point.fLifeSpan, point.afColor[0] ),
						FadedByte( row[i].fAge, point.fLifeSpan, point.afColor[1] ),
						FadedByte( row[i].fAge, point.fLifeSpan, point.afColor[2] ), 255 };
			v.u = 0.0f;
			v.v = 0.0f;
			maui16Indices[indices++] = static_cast<RwImVertexIndex>( vertices );
			if ( !last ) {
				maui16Indices[indices++] = static_cast<RwImVertexIndex>( vertices + count );
			}
			vertices++;
		}
		maui16Indices[indices] = maui16Indices[indices - 1];
		indices++;
	}
	if ( vertices >= 2 * count && RwIm3DTransform( maoVertices, vertices, nullptr, rwIM3D_ALWAYS ) != nullptr ) {
		RwIm3DRenderIndexedPrimitive( EF_PRIM_TRIANGLE_STRIP, maui16Indices, static_cast<s32>( indices ) );
		RwIm3DEnd();
	}
}
