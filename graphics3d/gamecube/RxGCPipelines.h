/*
===============================================================================

	The console's default atomic and world-sector pipelines: one node
	each that keeps the object's instance current (built once, reused
	every frame, rewritten in place after vertex edits), sets up its
	lights and draws its display lists through the node's callbacks.

	A null callback is skipped; any other that does not return its object
	fails the node, and with it the pipeline's execution for that object.

===============================================================================
*/
#ifndef RX_GC_PIPELINES_H
#define RX_GC_PIPELINES_H

#include "graphics3d/core/RxPipelineTypes.h"
#include "graphics3d/gamecube/RxGCAllInOne.h"
#include "graphics3d/gamecube/RxGCInstance.h"

struct RpAtomic;

// The sector node's definition ("GamerCubeWorldSectorAllInOne.csl").
RxNodeDefinition*	RxNodeDefinitionGetGameCubeWorldSectorAllInOne();

bool	_rxGCAtomicAllInOneNode( RxPipelineNode* node, const RxPipelineNodeParam* params );
bool	_rxGCAtomicAllInOnePipelineInit( RxPipelineNode* node );
bool	_rxGCWorldSectorAllInOneNode( RxPipelineNode* node, const RxPipelineNodeParam* params );
bool	_rxGCWorldSectorAllInOnePipelineInit( RxPipelineNode* node );

// Default callbacks.
void*	_rxGCAtomicDefaultInstanceCallback( void* object, RxGCInstanceContext* context );
void*	_rxGCWorldSectorDefaultInstanceCallback( void* object, RxGCInstanceContext* context );
void*	_rxGCAtomicDefaultReinstanceCallback( void* object, RxGCInstanceContext* context );
void*	_rxGCAtomicDefaultLightingCallback( void* object, RxGCLightingState* lighting );
void*	_rxGCWorldSectorDefaultLightingCallback( void* object, RxGCLightingState* lighting );

// Rewrites the arrays of the locked bits that the instance carries.
void	_rxGCDefaultReinstance( void* object, RxGCInstanceContext* context );

// A locked-and-unlocked pipeline of one node, or null (nothing left).
RxPipeline*			_rxGCCreateOneNodePipeline( RxNodeDefinition* definition, u32 pluginId );
// What an atomic's instance is built from: owned by the geometry when it
// has one morph target, else by the atomic.
RxGCInstanceSource	_rxGCAtomicInstanceSource( RpAtomic* atomic );

// The platform pipelines, made the defaults of atomics and sectors;
// false (nothing left) on any failure. The destroys clear the defaults.
bool	_rxGCCreateAtomicPipeline();
bool	_rxGCCreateWorldSectorPipeline();
void	_rxGCDestroyAtomicPipeline();
void	_rxGCDestroyWorldSectorPipeline();

#endif
