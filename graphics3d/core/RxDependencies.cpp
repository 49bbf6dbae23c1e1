#include "graphics3d/core/RxDependencies.h"

#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RxPipelineLayout.h"
#include "graphics3d/core/RxPipelineModule.h"
#include "graphics3d/core/RxRadixSort.h"

#include <bit>
#include <cstdint>
#include <cstring>

struct RxReqScope;

// One cluster a node must receive, keeps or makes.
struct RxReqEntry {
	RxClusterDefinition*	clusterDef;
	u32						requirement;	// RxClusterValidityReq
	u32						refCount;		// inputs that may still deliver it
	RxReqScope*				scope;
	RxReqEntry*				nextInScope;
	RxReqList*				list;
	u32						continuity;		// bit o: continues down output o
	u32						slot;
	RxPipelineNode*			node;			// the node whose need created it
};

// A node's entries.
struct RxReqList {
	u32				count;
	u32				capacity;
	u32				usedSlots;
	RxReqEntry*		entries;
	RxPipelineNode*	node;
};

// Entries of one cluster joined by continuity, chained in the scope list.
struct RxReqScope {
	RxReqEntry*		first;
	RxReqEntry*		last;
	RxReqScope*		next;
	RxReqScope*		prev;
};

// Continuity is tracked for the first 32 outputs.
static constexpr u32 CONTINUITY_BITS = 32;

u32 PipelineCalcNumUniqueClusters( const RxPipeline* pipeline ) {
	// Repeated minimum search over the definition addresses.
	u32 count = 0;
	uintptr_t previous = 0;
	for ( ;; ) {
		uintptr_t smallest = UINTPTR_MAX;
		bool found = false;
		for ( u32 i = 0; i < pipeline->numNodes; i++ ) {
			const RxNodeDefinition* const definition = pipeline->nodes[i].nodeDef;
			if ( definition == nullptr || definition->clustersOfInterest == nullptr ) {
				continue;
			}
			for ( u32 c = 0; c < definition->numClustersOfInterest; c++ ) {
				const uintptr_t address = reinterpret_cast<uintptr_t>( definition->clustersOfInterest[c].clusterDef );
				if ( address > previous && address <= smallest ) {
					smallest = address;
					found = true;
				}
			}
		}
		if ( !found ) {
			return count;
		}
		count++;
		previous = smallest;
		if ( smallest == UINTPTR_MAX ) {
			return count;
		}
	}
}

u64 _rxUnlockBound( const RxPipeline* pipeline, const u32 numUnique ) {
	const u64 n = pipeline->numNodes;
	const u64 u = numUnique;
	u64 outputs = 0;
	u64 perNode = 0;
	for ( u32 i = 0; i < pipeline->numNodes; i++ ) {
		const RxPipelineNode* const node = &pipeline->nodes[i];
		outputs += node->numOutputs;
		const u32 clusters = node->nodeDef != nullptr ? node->nodeDef->numClustersOfInterest : 0;
		const u32 privateSize = node->nodeDef != nullptr ? node->nodeDef->pipelineNodePrivateDataSize : 0;
		perNode += RxRoundUp8( u * sizeof( RxPipelineCluster* ) ) + RxRoundUp8( ( u + 1 ) * sizeof( u32 ) ) +
				   RxRoundUp8( static_cast<u64>( clusters ) * sizeof( u32 ) ) + RxRoundUp8( privateSize );
	}
	const u64 temporaries = n * RxRoundUp8( sizeof( RxReqList ) ) + n * RxRoundUp8( u * sizeof( RxReqEntry ) ) +
							n * u * RxRoundUp8( sizeof( RxReqScope ) ) +
							RxRoundUp8( static_cast<u64>( _rxPipelineMaxNodesInForce() ) * sizeof( RxPipelineNodeTopSortData ) );
	const u64 kept = n * sizeof( RxPipelineNode ) + RxRoundUp8( outputs * sizeof( u32 ) ) +
					 RxRoundUp8( sizeof( RxPacket ) + u * sizeof( RxCluster ) ) + u * RxRoundUp8( sizeof( RxPipelineCluster ) ) +
					 RxRoundUp8( u * sizeof( RxPipelineRequiresCluster ) ) + perNode;
	return temporaries + kept;
}

static RxReqList* ListOf( const RxPipelineNode* node ) {
	return node->topSortData->req;
}

static u32 Disposition( const RxNodeDefinition* definition, const u32 output, const RxClusterDefinition* cluster ) {
	if ( definition->outputs == nullptr ) {
		return rxCLVALID_NOCHANGE;
	}
	const RxOutputSpec& outputSpec = definition->outputs[output];
	for ( u32 c = 0; c < definition->numClustersOfInterest; c++ ) {
		if ( definition->clustersOfInterest[c].clusterDef == cluster ) {
			return outputSpec.outputClusters != nullptr ? outputSpec.outputClusters[c] : outputSpec.allOtherClusters;
		}
	}
	return outputSpec.allOtherClusters;
}

static RxReqEntry* FindEntry( RxReqList* list, const RxClusterDefinition* cluster ) {
	for ( u32 i = 0; i < list->count; i++ ) {
		if ( list->entries[i].clusterDef == cluster ) {
			return &list->entries[i];
		}
	}
	return nullptr;
}

static s32 FindEntryIndex( const RxReqList* list, const RxClusterDefinition* cluster ) {
	for ( u32 i = 0; i < list->count; i++ ) {
		if ( list->entries[i].clusterDef == cluster ) {
			return static_cast<s32>( i );
		}
	}
	return -1;
}

// Finds the entry or adds it; null when the list is full.
static RxReqEntry* AddOrFindEntry( RxReqList* list, RxClusterDefinition* cluster, const u32 requirement, const u32 refCount,
								   RxPipelineNode* creator, bool* added ) {
	*added = false;
	if ( RxReqEntry* const existing = FindEntry( list, cluster ) ) {
		return existing;
	}
	if ( list->count == list->capacity ) {
		return nullptr;
	}
	RxReqEntry* const entry = &list->entries[list->count++];
	std::memset( entry, 0, sizeof( RxReqEntry ) );
	entry->clusterDef = cluster;
	entry->requirement = requirement;
	entry->refCount = refCount;
	entry->list = list;
	entry->slot = RX_NO_SLOT;
	entry->node = creator;
	*added = true;
	return entry;
}

// An input's requirement only ever upgrades an existing entry to required.
static bool NeedCluster( RxReqList* list, RxClusterDefinition* cluster, const u32 requirement, const u32 refCount,
						 RxPipelineNode* creator ) {
	bool added = false;
	RxReqEntry* const entry = AddOrFindEntry( list, cluster, requirement, refCount, creator, &added );
	if ( entry == nullptr ) {
		return false;
	}
	if ( !added && requirement == rxCLREQ_REQUIRED ) {
		entry->requirement = rxCLREQ_REQUIRED;
	}
	return true;
}

// One input of node d no longer delivers the cluster of entry index: at 0
// the entry goes (the last one takes its place) and its removal runs on
// down every output that passes the cluster unchanged.
static void _PropDownElimPath( RxPipeline* pipeline, const u32 d, const u32 index ) {
	RxPipelineNode* const node = &pipeline->nodes[d];
	RxReqList* const list = ListOf( node );
	RxReqEntry* const entry = &list->entries[index];
	if ( entry->refCount > 0 ) {
		entry->refCount--;
	}
	if ( entry->refCount > 0 ) {
		return;
	}
	RxClusterDefinition* const cluster = entry->clusterDef;
	list->entries[index] = list->entries[list->count - 1];
	list->count--;
	for ( u32 o = 0; o < node->numOutputs; o++ ) {
		const u32 next = node->outputs[o];
		if ( next >= pipeline->numNodes || Disposition( node->nodeDef, o, cluster ) != rxCLVALID_NOCHANGE ) {
			continue;
		}
		const s32 nextIndex = FindEntryIndex( ListOf( &pipeline->nodes[next] ), cluster );
		if ( nextIndex >= 0 ) {
			_PropDownElimPath( pipeline, next, static_cast<u32>( nextIndex ) );
		}
	}
}

static u32 CheckClustersOfInterest( const RxNodeDefinition* definition ) {
	if ( definition->numClustersOfInterest > 0 && definition->clustersOfInterest == nullptr ) {
		return RXERR_NULL_CLUSTER;
	}
	for ( u32 c = 0; c < definition->numClustersOfInterest; c++ ) {
		const RxClusterDefinition* const cluster = definition->clustersOfInterest[c].clusterDef;
		if ( cluster == nullptr ) {
			return RXERR_NULL_CLUSTER;
		}
		for ( u32 earlier = 0; earlier < c; earlier++ ) {
			if ( definition->clustersOfInterest[earlier].clusterDef == cluster ) {
				return RXERR_DUPLICATE_CLUSTER;
			}
		}
	}
	return 0;
}

static u32 InputRequirement( const RxNodeDefinition* definition, const u32 c ) {
	return definition->inputRequirements != nullptr ? definition->inputRequirements[c] : rxCLREQ_DONTWANT;
}

static u32 _PropagateDependenciesAndKillDeadPaths( RxPipeline* pipeline, const u32 numUnique ) {
	for ( u32 k = pipeline->numNodes; k-- > 0; ) {
		RxPipelineNode* const node = &pipeline->nodes[k];
		const RxNodeDefinition* const definition = node->nodeDef;
		if ( const u32 error = CheckClustersOfInterest( definition ) ) {
			return error;
		}
		RxReqList* const list = static_cast<RxReqList*>( StalacTiteAlloc( sizeof( RxReqList ) ) );
		RxReqEntry* const entries = numUnique > 0
										? static_cast<RxReqEntry*>( StalacTiteAlloc( numUnique * sizeof( RxReqEntry ) ) )
										: nullptr;
		if ( list == nullptr || ( numUnique > 0 && entries == nullptr ) ) {
			return RXERR_DEPENDENCY_MEMORY;
		}
		*list = RxReqList{ 0, numUnique, 0, entries, node };
		node->topSortData->req = list;
		const u32 numIns = node->topSortData->numIns;

		for ( u32 o = 0; o < node->numOutputs; o++ ) {
			const u32 d = node->outputs[o];
			if ( d >= pipeline->numNodes ) {
				continue;
			}
			RxReqList* const destination = ListOf( &pipeline->nodes[d] );
			for ( u32 j = 0; j < destination->count; ) {
				const RxReqEntry entry = destination->entries[j];
				const u32 disposition = Disposition( definition, o, entry.clusterDef );
				if ( disposition == rxCLVALID_NOCHANGE ) {
					if ( !NeedCluster( list, entry.clusterDef, entry.requirement, numIns, entry.node ) ) {
						return RXERR_DEPENDENCY_MEMORY;
					}
				} else if ( disposition == rxCLVALID_INVALID ) {
					if ( entry.requirement == rxCLREQ_REQUIRED ) {
						return RXERR_REQUIRED_INVALIDATED;
					}
					const u32 before = destination->count;
					_PropDownElimPath( pipeline, d, j );
					if ( destination->count < before ) {
						continue;	// another entry now stands at j
					}
				}
				j++;
			}
		}
		for ( u32 c = 0; c < definition->numClustersOfInterest; c++ ) {
			const u32 requirement = InputRequirement( definition, c );
			if ( requirement != rxCLREQ_DONTWANT &&
				 !NeedCluster( list, definition->clustersOfInterest[c].clusterDef, requirement, numIns, node ) ) {
				return RXERR_DEPENDENCY_MEMORY;
			}
		}
	}
	return 0;
}

static u32 _ForAllNodeReqsAddOutputClustersAndBuildContinuityBitfields( RxPipeline* pipeline ) {
	for ( u32 k = 0; k < pipeline->numNodes; k++ ) {
		RxPipelineNode* const node = &pipeline->nodes[k];
		const RxNodeDefinition* const definition = node->nodeDef;
		RxReqList* const list = ListOf( node );
		bool added = false;
		for ( u32 c = 0; c < definition->numClustersOfInterest; c++ ) {
			const RxClusterRef& ref = definition->clustersOfInterest[c];
			if ( ref.forcePresent == rxCLFORCEPRESENT &&
				 AddOrFindEntry( list, ref.clusterDef, rxCLREQ_DONTWANT, 1, node, &added ) == nullptr ) {
				return RXERR_DEPENDENCY_MEMORY;
			}
		}
		for ( u32 o = 0; o < node->numOutputs; o++ ) {
			const u32 d = node->outputs[o];
			if ( d >= pipeline->numNodes ) {
				continue;
			}
			const RxReqList* const destination = ListOf( &pipeline->nodes[d] );
			for ( u32 j = 0; j < destination->count; j++ ) {
				RxClusterDefinition* const cluster = destination->entries[j].clusterDef;
				const u32 disposition = Disposition( definition, o, cluster );
				RxReqEntry* entry = nullptr;
				if ( disposition == rxCLVALID_INVALID ) {
					continue;
				}
				if ( disposition == rxCLVALID_VALID ) {
					entry = AddOrFindEntry( list, cluster, rxCLREQ_DONTWANT, 1, node, &added );
					if ( entry == nullptr ) {
						return RXERR_DEPENDENCY_MEMORY;
					}
				} else {
					entry = FindEntry( list, cluster );
				}
				if ( entry != nullptr && o < CONTINUITY_BITS ) {
					entry->continuity |= 1u << o;
				}
			}
		}
	}
	return 0;
}

// The scope list, in creation order.
struct ScopeList {
	RxReqScope*	head;
	RxReqScope*	tail;
};

// Joins b's chain to a's and takes b out of the list.
static void _ScopeTraceMerge( ScopeList* scopes, RxReqScope* a, RxReqScope* b ) {
	for ( RxReqEntry* entry = b->first; entry != nullptr; entry = entry->nextInScope ) {
		entry->scope = a;
	}
	a->last->nextInScope = b->first;
	a->last = b->last;
	if ( b->prev != nullptr ) {
		b->prev->next = b->next;
	} else {
		scopes->head = b->next;
	}
	if ( b->next != nullptr ) {
		b->next->prev = b->prev;
	} else {
		scopes->tail = b->prev;
	}
}

static void JoinScope( RxReqScope* scope, RxReqEntry* entry ) {
	entry->scope = scope;
	entry->nextInScope = nullptr;
	scope->last->nextInScope = entry;
	scope->last = entry;
}

static u32 _TraceClusterScopes( RxPipeline* pipeline, ScopeList* scopes ) {
	for ( u32 k = 0; k < pipeline->numNodes; k++ ) {
		RxPipelineNode* const node = &pipeline->nodes[k];
		RxReqList* const list = ListOf( node );
		for ( u32 i = 0; i < list->count; i++ ) {
			RxReqEntry* const entry = &list->entries[i];
			if ( entry->scope != nullptr ) {
				continue;
			}
			RxReqScope* const scope = static_cast<RxReqScope*>( StalacTiteAlloc( sizeof( RxReqScope ) ) );
			if ( scope == nullptr ) {
				return RXERR_DEPENDENCY_MEMORY;
			}
			*scope = RxReqScope{ entry, entry, nullptr, scopes->tail };
			if ( scopes->tail != nullptr ) {
				scopes->tail->next = scope;
			} else {
				scopes->head = scope;
			}
			scopes->tail = scope;
			entry->scope = scope;
			entry->nextInScope = nullptr;
		}
		for ( u32 o = 0; o < node->numOutputs && o < CONTINUITY_BITS; o++ ) {
			const u32 d = node->outputs[o];
			if ( d >= pipeline->numNodes ) {
				continue;
			}
			RxReqList* const destination = ListOf( &pipeline->nodes[d] );
			for ( u32 j = 0; j < destination->count; j++ ) {
				RxReqEntry* const next = &destination->entries[j];
				if ( next->requirement == rxCLREQ_DONTWANT ) {
					continue;
				}
				const RxReqEntry* const here = FindEntry( list, next->clusterDef );
				if ( here == nullptr || !( here->continuity & ( 1u << o ) ) ) {
					continue;
				}
				if ( next->scope == nullptr ) {
					JoinScope( here->scope, next );
				} else if ( next->scope != here->scope ) {
					_ScopeTraceMerge( scopes, here->scope, next->scope );
				}
			}
		}
	}
	return 0;
}

// A slot count needs one bit per slot in every node's used-slot mask.
static u32 _AssignClusterSlots( RxPipeline* pipeline, const ScopeList* scopes ) {
	u32 numSlots = 0;
	for ( const RxReqScope* scope = scopes->head; scope != nullptr; scope = scope->next ) {
		u32 used = 0;
		for ( const RxReqEntry* entry = scope->first; entry != nullptr; entry = entry->nextInScope ) {
			used |= entry->list->usedSlots;
		}
		if ( used == UINT32_MAX ) {
			return RXERR_DEPENDENCY_MEMORY;
		}
		const u32 slot = static_cast<u32>( std::countr_one( used ) );
		for ( RxReqEntry* entry = scope->first; entry != nullptr; entry = entry->nextInScope ) {
			entry->slot = slot;
			entry->list->usedSlots |= 1u << slot;
		}
		if ( slot + 1 > numSlots ) {
			numSlots = slot + 1;
		}
	}
	pipeline->packetNumClusterSlots = numSlots;
	return 0;
}

// Cluster records of the pipeline, contiguous in allocation order.
struct ClusterRecords {
	RxPipelineCluster*	first;
	u32					count;
};

static RxPipelineCluster* FindRecord( const ClusterRecords* records, const RxClusterDefinition* cluster ) {
	for ( u32 i = 0; i < records->count; i++ ) {
		if ( records->first[i].clusterRef == cluster ) {
			return &records->first[i];
		}
	}
	return nullptr;
}

static bool _MyEnumPipelineClustersCallBack( ClusterRecords* records, RxClusterDefinition* cluster ) {
	RxPipelineCluster* const record = static_cast<RxPipelineCluster*>( StalacMiteAlloc( sizeof( RxPipelineCluster ) ) );
	if ( record == nullptr ) {
		return false;
	}
	if ( records->count == 0 ) {
		records->first = record;
	}
	records->count++;
	record->clusterRef = cluster;
	record->creationAttributes = cluster->defaultAttributes;
	return true;
}

// Once per distinct definition, in scope-list order.
static bool _EnumPipelineClusters( const ScopeList* scopes, ClusterRecords* records ) {
	for ( const RxReqScope* scope = scopes->head; scope != nullptr; scope = scope->next ) {
		RxClusterDefinition* const cluster = scope->first->clusterDef;
		if ( FindRecord( records, cluster ) == nullptr && !_MyEnumPipelineClustersCallBack( records, cluster ) ) {
			return false;
		}
	}
	return true;
}

// Zeroed bytes from the bottom; size 0 gives null.
static void* KeepZeroed( const u64 size, bool* failed ) {
	if ( size == 0 ) {
		return nullptr;
	}
	void* const block = StalacMiteAlloc( static_cast<u32>( size ) );
	if ( block == nullptr ) {
		*failed = true;
		return nullptr;
	}
	std::memset( block, 0, size );
	return block;
}

static bool WriteNodeAllocations( RxPipeline* pipeline, RxPipelineNode* node, const ClusterRecords* records ) {
	const u32 numSlots = pipeline->packetNumClusterSlots;
	const RxNodeDefinition* const definition = node->nodeDef;
	const RxReqList* const list = ListOf( node );
	bool failed = false;
	node->slotClusterRefs =
		static_cast<RxPipelineCluster**>( KeepZeroed( static_cast<u64>( numSlots ) * sizeof( RxPipelineCluster* ), &failed ) );
	node->slotsContinue = static_cast<u32*>( KeepZeroed( ( static_cast<u64>( numSlots ) + 1 ) * sizeof( u32 ), &failed ) );
	node->inputToClusterSlot =
		static_cast<u32*>( KeepZeroed( static_cast<u64>( definition->numClustersOfInterest ) * sizeof( u32 ), &failed ) );
	node->privateData = KeepZeroed( definition->pipelineNodePrivateDataSize, &failed );
	if ( failed ) {
		return false;
	}
	u32 all = UINT32_MAX;
	for ( u32 i = 0; i < list->count; i++ ) {
		const RxReqEntry& entry = list->entries[i];
		node->slotClusterRefs[entry.slot] = FindRecord( records, entry.clusterDef );
		node->slotsContinue[1 + entry.slot] = entry.continuity;
		all &= entry.continuity;
	}
	node->slotsContinue[0] = all;
	for ( u32 c = 0; c < definition->numClustersOfInterest; c++ ) {
		const RxReqEntry* const entry = FindEntry( const_cast<RxReqList*>( list ), definition->clustersOfInterest[c].clusterDef );
		node->inputToClusterSlot[c] = entry != nullptr ? entry->slot : RX_NO_SLOT;
	}
	return true;
}

static bool WriteInputRequirements( RxPipeline* pipeline ) {
	const RxReqList* const list = ListOf( &pipeline->nodes[0] );
	u32 count = 0;
	for ( u32 i = 0; i < list->count; i++ ) {
		const u32 requirement = list->entries[i].requirement;
		count += requirement == rxCLREQ_REQUIRED || requirement == rxCLREQ_OPTIONAL;
	}
	bool failed = false;
	RxPipelineRequiresCluster* const requirements = static_cast<RxPipelineRequiresCluster*>(
		KeepZeroed( static_cast<u64>( count ) * sizeof( RxPipelineRequiresCluster ), &failed ) );
	if ( failed ) {
		return false;
	}
	u32 written = 0;
	for ( u32 i = 0; i < list->count; i++ ) {
		const RxReqEntry& entry = list->entries[i];
		if ( entry.requirement == rxCLREQ_REQUIRED || entry.requirement == rxCLREQ_OPTIONAL ) {
			requirements[written++] = RxPipelineRequiresCluster{ entry.clusterDef, entry.requirement, entry.slot };
		}
	}
	// Definition addresses need the sort's 64-bit keys on the host.
	static_assert( sizeof( uintptr_t ) == sizeof( u64 ), "addresses sort as 64-bit keys" );
	_rxRadixExchangeSort64( requirements, count, sizeof( RxPipelineRequiresCluster ),
							offsetof( RxPipelineRequiresCluster, clusterDef ), 0, UINT64_MAX );
	pipeline->numInputRequirements = count;
	pipeline->inputRequirements = requirements;
	return true;
}

static bool _ForAllNodesWriteClusterAllocations( RxPipeline* pipeline, const ScopeList* scopes ) {
	ClusterRecords records = { nullptr, 0 };
	if ( !_EnumPipelineClusters( scopes, &records ) ) {
		return false;
	}
	const u32 numSlots = pipeline->packetNumClusterSlots;
	bool failed = false;
	RxPacket* const packet = static_cast<RxPacket*>( KeepZeroed( RxPacketSize( numSlots ), &failed ) );
	if ( failed ) {
		return false;
	}
	packet->numClusters = static_cast<u16>( numSlots );
	packet->pipeline = pipeline;
	pipeline->embeddedPacket = packet;
	pipeline->embeddedPacketState = rxPKST_PACKETLESS;
	for ( u32 k = 0; k < pipeline->numNodes; k++ ) {
		if ( !WriteNodeAllocations( pipeline, &pipeline->nodes[k], &records ) ) {
			return false;
		}
	}
	return WriteInputRequirements( pipeline );
}

u32 _rxChaseDependencies( RxPipeline* pipeline, const u32 numUnique ) {
	u32 error = _PropagateDependenciesAndKillDeadPaths( pipeline, numUnique );
	if ( error == 0 ) {
		error = _ForAllNodeReqsAddOutputClustersAndBuildContinuityBitfields( pipeline );
	}
	ScopeList scopes = { nullptr, nullptr };
	if ( error == 0 ) {
		error = _TraceClusterScopes( pipeline, &scopes );
	}
	if ( error == 0 ) {
		error = _AssignClusterSlots( pipeline, &scopes );
	}
	if ( error != 0 ) {
		_rxPipelineError( error );
		return error;
	}
	if ( !_ForAllNodesWriteClusterAllocations( pipeline, &scopes ) ) {
		return RWERR_NO_MEMORY;
	}
	return 0;
}
